/*
  Accounting database of one fiscal year: the tables, columns, view and
  procedure that the export module reads and that its registration screens
  write. The database is created WITH DEFAULT CHARACTER SET WIN1252 (see
  db/README.md). Run this file after CREATE DATABASE, with isql-fb -i or the
  script runner of the program.

  Type rules kept throughout:
  - codes are VARCHAR, never CHAR: queries concatenate them into document names
    ('CONTR' || CODIGO) and compare them with quoted literals
  - entity numbers (EMPRESA) are INTEGER, so EMPRESA = '01' finds entity 1
  - keys that per-row lookups quote and that may be empty (PKEMP, CADOBRA.NUMERO)
    are VARCHAR, so a lookup with an empty value finds nothing instead of failing
    to convert '' to a number. NUMLIC is VARCHAR too: DESPES.NUMLIC may be empty
    and is joined to CADLIC.NUMLIC
  - texts that queries select with DISTINCT or GROUP BY are VARCHAR, never BLOB
  - amounts NUMERIC(15,2), quantities and unit prices NUMERIC(15,4), DOUBLE
    PRECISION where the product keeps floating point
  - only primary-key columns are NOT NULL
  Comments hold no semicolon and no lone quote, so that a plain script runner
  splits the statements right.
*/

/* ---------------------------------------------------------------- client */

CREATE TABLE CADCLI (
  MEXER             VARCHAR(4),      -- fiscal year held by this database
  CLNT1             VARCHAR(35),
  ENDERE            VARCHAR(30),
  CGC               VARCHAR(18)
);

CREATE TABLE LOGO (
  LOGO              BLOB SUB_TYPE 0
);

CREATE TABLE TABEMPRESA (
  EMPRESA           INTEGER NOT NULL,
  NOME              VARCHAR(80),
  CGC               VARCHAR(18),
  ENDERECO          VARCHAR(60),
  BAIRRO            VARCHAR(60),
  CEP               VARCHAR(10),
  FONE              VARCHAR(15),
  FAX               VARCHAR(15),
  TIPO              INTEGER,
  CODAUDESP         INTEGER,
  CPF_ORDENA        VARCHAR(14),
  CPF_CONT          VARCHAR(14),
  CRC_CONT          VARCHAR(15),
  UF_CRC_CONT       VARCHAR(2),
  BANCO             VARCHAR(10),
  AGENCIA           VARCHAR(10),
  CONTA             VARCHAR(20),
  CONTATO           VARCHAR(60),
  MNOME             VARCHAR(80),
  CODIF             INTEGER,
  NEMPG             INTEGER,
  NEMP              INTEGER,
  PODER             VARCHAR(2),
  NEMPGEX           INTEGER,
  NEMPGRE           INTEGER,
  ORDPGSEQ          INTEGER,
  CONSTRAINT PK_TABEMPRESA PRIMARY KEY (EMPRESA)
);

/* ---------------------------------------------------------------- budget */

CREATE TABLE PARAMORC (
  LEI_PPA           VARCHAR(20),
  DTPUBLICACAO_PPA  DATE,
  LEI_LDO           VARCHAR(20),
  DTPUBLICACAO_LDO  DATE,
  LEI               VARCHAR(20),     -- the budget law
  DTPUBLICACAO      DATE,
  PERCE             NUMERIC(15,2),   -- supplementation allowed (%)
  PORCENTO          NUMERIC(15,2)    -- personnel ceiling (%)
);

CREATE TABLE TABUNIDADE (
  CODLO             VARCHAR(10) NOT NULL,
  NOME              VARCHAR(100),
  CONSTRAINT PK_TABUNIDADE PRIMARY KEY (CODLO)
);

CREATE TABLE TABPROJATIV (
  PROJATIV          VARCHAR(10) NOT NULL,
  NOME              VARCHAR(250),
  CONSTRAINT PK_TABPROJATIV PRIMARY KEY (PROJATIV)
);

CREATE TABLE TABPROGRAMA (
  PROGRAMA          VARCHAR(10) NOT NULL,
  NOME              VARCHAR(250),
  CONSTRAINT PK_TABPROGRAMA PRIMARY KEY (PROGRAMA)
);

CREATE TABLE TABORGAO (
  PODER             VARCHAR(2) NOT NULL,
  ORGAO             VARCHAR(3) NOT NULL,
  NOME              VARCHAR(250),
  CONSTRAINT PK_TABORGAO PRIMARY KEY (PODER, ORGAO)
);

CREATE TABLE TABCATEC (
  CATEC             VARCHAR(20) NOT NULL,
  NOME              VARCHAR(100),
  CONSTRAINT PK_TABCATEC PRIMARY KEY (CATEC)
);

-- Expense budget: one row per appropriation record (ficha).
CREATE TABLE DESORC (
  FICHA             INTEGER NOT NULL,
  EMPRESA           INTEGER,
  PODER             VARCHAR(2),      -- '99' holds carried-over commitments
  ORGAO             VARCHAR(3),
  CODLO             VARCHAR(10),
  PROJATIV          VARCHAR(10),
  FUNCAO            VARCHAR(5),
  SUBFUNCAO         VARCHAR(5),
  PROGRAMA          VARCHAR(10),
  FONCODIGO         VARCHAR(10),
  DOTAC             NUMERIC(15,2),
  CONSTRAINT PK_DESORC PRIMARY KEY (FICHA)
);

/* Expense elements of a ficha. No key: a ficha may have several element rows,
   CATEC may be empty, and the element screen finds a row by the FICHA, CATEC
   and BALCO_TCE it read. */
CREATE TABLE DESDIS (
  FICHA             INTEGER,
  EMPRESA           INTEGER,
  PODER             VARCHAR(2),
  CODLO             VARCHAR(10),
  PROJATIV          VARCHAR(10),
  FONCODIGO         VARCHAR(10),
  ELEMENTO          VARCHAR(10),
  CATEC             VARCHAR(20),     -- economic category, e.g. 3.1.90.11
  BALCO_TCE         VARCHAR(10),     -- expense element of the court
  DOTAC             NUMERIC(15,2),
  EXTRA             VARCHAR(1),      -- 'N' on budgetary appropriations
  BALCO             VARCHAR(34)
);

CREATE TABLE RECORC (
  EMPRESA           INTEGER,
  CODRE             VARCHAR(20),     -- local revenue code, with dots
  TOTOR             NUMERIC(15,2)
);

CREATE TABLE CADDECRETO (
  DECRETO           INTEGER NOT NULL,
  DTLAN             DATE,
  LEI               INTEGER,
  DTLEI             DATE,
  CONSTRAINT PK_CADDECRETO PRIMARY KEY (DECRETO)
);

-- Budget changes, one row per change of one appropriation.
CREATE TABLE DESALD (
  DECRETO           INTEGER,
  IE                VARCHAR(2),      -- kind of change, '1' to '9'
  DTLAN             DATE,
  VALOR             NUMERIC(15,2),
  FICHA             INTEGER
);

/* ---------------------------------------------------- accounts, treasury */

CREATE TABLE CONPLA (
  BALCO             VARCHAR(34) NOT NULL,
  TIP               VARCHAR(1),
  TITCO             VARCHAR(50),
  D_C               VARCHAR(1),
  CREDIT            DOUBLE PRECISION,
  DEBIT             DOUBLE PRECISION,
  SALDO             DOUBLE PRECISION,
  CODIGO_TCE        VARCHAR(34),     -- parent account in the chart of the court
  SEQ_TCE           VARCHAR(10),     -- sequential account number of the court
  CONSTRAINT PK_CONPLA PRIMARY KEY (BALCO)
);

-- Ledger entries.
CREATE TABLE CONDIA (
  BALCO             VARCHAR(34),
  DATAE             DATE,
  DEBIT             NUMERIC(15,2),
  CREDI             NUMERIC(15,2)
);

CREATE TABLE AGENCIA (
  BANCO             VARCHAR(10),
  AGENCIA           VARCHAR(10),
  NOMEAGENCIA       VARCHAR(100)
);

-- Treasury accounts, each tied to a ledger account. One CONTA may have several rows.
CREATE TABLE DESCON (
  EMPRESA           INTEGER,
  BALCO             VARCHAR(34),
  BANCO             VARCHAR(10),     -- '000' on accounts without a bank
  AGENCIA           VARCHAR(10),     -- '0000-0' when there is none
  CONTA             VARCHAR(20),
  RECUR             VARCHAR(100)
);

-- Revenue appropriations.
CREATE TABLE RECDIS (
  FICHA             INTEGER NOT NULL,
  EMPRESA           INTEGER,
  CODRE             VARCHAR(20),
  EXTRA             VARCHAR(1),      -- 'S' on extra-budgetary revenue
  CONSTRAINT PK_RECDIS PRIMARY KEY (FICHA)
);

-- Revenue collected. Retentions of a commitment carry its PKEMP.
CREATE TABLE RECEIT (
  FICHA             INTEGER,
  DTREC             DATE,
  DTLAN             DATE,
  VAREC             NUMERIC(15,2),
  PKEMP             VARCHAR(20),
  CONTA             VARCHAR(20)
);

/* Items that keep a bank statement and the books apart, for CONCILIA. An item is
   pending at a date when it arose on or before it and was not cleared by then.
   GRUPO: 1 cheques issued not yet cleared by the bank, 2 deposits not yet
   credited by the bank, 3 bank credits not yet in the books, 4 bank debits not
   yet in the books. */
CREATE TABLE CONCILIA_PENDENCIA (
  CONTA             VARCHAR(20),
  GRUPO             SMALLINT,
  DTLAN             DATE,
  NOME              VARCHAR(100),
  VALOR             NUMERIC(15,2),   -- always positive, GRUPO gives the side
  DTBAIXA           DATE
);

/* --------------------------------------- procurement, contracts, agreements */

CREATE TABLE DESFOR (
  CODIF             INTEGER NOT NULL,
  CODTIP            VARCHAR(2),      -- '01' company, '02' person, '09' other
  INSMF             VARCHAR(20),     -- CPF or CNPJ as typed
  NOME              VARCHAR(80),
  ENDER             VARCHAR(50),
  COMPL             VARCHAR(50),
  CEP               VARCHAR(10),
  CEPCI             VARCHAR(40),
  UF                VARCHAR(2),
  TELEF             VARCHAR(15),
  FAX               VARCHAR(15),
  EMAIL             VARCHAR(60),
  INEST             VARCHAR(20),
  CODATIV           VARCHAR(10),
  PISPASEP          VARCHAR(20),
  CONSTRAINT PK_DESFOR PRIMARY KEY (CODIF)
);

CREATE TABLE CADEST (
  CADPRO            VARCHAR(15) NOT NULL,   -- 999.999.999, dots kept
  DISC1             VARCHAR(500),
  UNID1             VARCHAR(10),
  CONSTRAINT PK_CADEST PRIMARY KEY (CADPRO)
);

CREATE TABLE CADLIC (
  NUMLIC            VARCHAR(20) NOT NULL,
  ANO               INTEGER,
  NUMERO            VARCHAR(20),
  MODLIC            VARCHAR(4),
  DISCR             VARCHAR(2000),
  DISCR7            VARCHAR(50),
  VALOR             NUMERIC(15,2),
  DTORD             DATE,
  DTPUB             DATE,
  NROPUBL           VARCHAR(10),
  TIPOPUBL          VARCHAR(120),
  DATAE             DATE,
  DTADJ             DATE,
  DTHOM             DATE,
  CONSTRAINT PK_CADLIC PRIMARY KEY (NUMLIC)
);

-- Items of a bidding as quoted by each supplier.
CREATE TABLE CADPRO (
  NUMLIC            VARCHAR(20),
  CADPRO            VARCHAR(15),
  ITEM              INTEGER,
  CODIF             INTEGER,
  QUAN1             NUMERIC(15,4),
  VAUN1             NUMERIC(15,4),
  VATO1             NUMERIC(15,2),
  SUBEM             VARCHAR(1)       -- '1' when the supplier won the item
);

CREATE TABLE PROLIC (
  NUMLIC            VARCHAR(20),
  CODIF             INTEGER
);

CREATE TABLE DOCUMENTOS_RTF (
  NUMLIC            VARCHAR(20),
  NUMERO            INTEGER,         -- the supplier, DESFOR.CODIF
  TIPO              VARCHAR(2)
);

CREATE TABLE COMISSAO (
  CODCOMISS         INTEGER NOT NULL,
  PORTARIA          VARCHAR(15),
  DATA              DATE,
  TIPO              VARCHAR(1),
  DT_INI_VIGE       DATE,
  DT_FIM_VIGE       DATE,
  DT_INI_PI         DATE,
  DT_FIM_PI         DATE,
  CONSTRAINT PK_COMISSAO PRIMARY KEY (CODCOMISS)
);

CREATE TABLE MEMBROS (
  CODCOMISS         INTEGER NOT NULL,
  CODIGO            INTEGER NOT NULL,  -- member number within the commission
  NOME              VARCHAR(70),
  CPF               VARCHAR(14),
  CARGO             VARCHAR(120),
  RG                VARCHAR(20),
  FORMACAO_PROF     VARCHAR(120),
  CONSTRAINT PK_MEMBROS PRIMARY KEY (CODCOMISS, CODIGO)
);

CREATE TABLE LICITCOMISS (
  NUMLIC            VARCHAR(20),
  CODCOMISS         INTEGER
);

CREATE TABLE CONTRATOS (
  CODIGO            VARCHAR(20) NOT NULL,
  OBJETO            VARCHAR(500),
  VALCON            NUMERIC(15,2),
  DTASSI            DATE,
  DTPUBL            DATE,
  VEICPUB           VARCHAR(120),
  VIGENI            DATE,
  VIGENF            DATE,
  MODALI            VARCHAR(60),
  NPROLI            VARCHAR(20),
  FLEGAL            VARCHAR(100),
  TIPOCO            VARCHAR(30),     -- second character: contract type of the court
  NUMOBRA           VARCHAR(10),
  EMPRESA           INTEGER,
  CODIF             INTEGER,
  DTANULA           DATE,
  MOTIANU           VARCHAR(255),
  DTPUBANU          DATE,
  VEICANU           VARCHAR(120),
  CONSTRAINT PK_CONTRATOS PRIMARY KEY (CODIGO)
);

CREATE TABLE CONTRATOSADITAMENTO (
  CONTRATO          VARCHAR(20),
  TERMO             INTEGER,
  DESCRICAO         VARCHAR(500),
  VALOR             NUMERIC(15,2),
  DTLAN             DATE,
  DATAENCERRAMENTO  DATE
);

CREATE TABLE CADCONV (
  CONVENIO          INTEGER NOT NULL,  -- internal key
  NUMCONV           VARCHAR(20),       -- number of the agreement
  NOME              VARCHAR(100),
  ESPECIF           VARCHAR(500),
  VALOR             NUMERIC(15,2),
  DATA              DATE,
  DTPUB             DATE,
  DTVENC            DATE,
  CONTA             VARCHAR(20),
  TIPO              VARCHAR(10),
  NUMOBRA           VARCHAR(10),
  CODIF             INTEGER,
  EMPRESA           INTEGER,
  CONSTRAINT PK_CADCONV PRIMARY KEY (CONVENIO)
);

CREATE TABLE CADCONVADITAMENTO (
  CONVENIO          INTEGER,
  TERMO             INTEGER,
  DESCRICAO         VARCHAR(500),
  VALOR             NUMERIC(15,2),
  DTLAN             DATE,
  DATAENCERRAMENTO  DATE
);

CREATE TABLE DISPINEX (
  CODIGO            INTEGER NOT NULL,
  NUMDISP           VARCHAR(10),     -- 0012/08
  MODALIDADE        VARCHAR(2),      -- '08' or '09'
  TIPO_FUNDAM       VARCHAR(35),
  NUM_FUNDAM        VARCHAR(12),
  NUM_COMISSAO      VARCHAR(12),
  DT_INICIO         DATE,
  OBJETO            VARCHAR(255),
  BALSE_LEGAL       VARCHAR(35),     -- the legal-basis item, cut at 35
  VALOR             DOUBLE PRECISION,
  DT_RETIF          DATE,
  DT_PUBL           DATE,
  VEIC_PUBL         VARCHAR(120),
  NUMCONV           INTEGER,         -- CADCONV.CONVENIO
  CPF_RESP          VARCHAR(14),
  NOME_RESP         VARCHAR(100),
  CARGO_RESP        VARCHAR(120),
  DESCR_RESP        VARCHAR(120),
  CANCELADO         VARCHAR(1),
  MOT_CANC          VARCHAR(255),
  DT_PUBL_CANC      DATE,
  EMPRESA           INTEGER,
  CONSTRAINT PK_DISPINEX PRIMARY KEY (CODIGO)
);

-- One item bought from one supplier in a waiver process.
CREATE TABLE PARTDISP (
  CODIGO            INTEGER NOT NULL,
  CODIF             INTEGER NOT NULL,
  ITEM              INTEGER NOT NULL,
  CADPRO            VARCHAR(15),
  QUANT             NUMERIC(15,4),
  VALOR_TOTAL       NUMERIC(15,2),
  CONSTRAINT PK_PARTDISP PRIMARY KEY (CODIGO, CODIF, ITEM)
);

-- One certificate presented by one supplier in a waiver process.
CREATE TABLE CERTDISP (
  CODIGO            INTEGER NOT NULL,
  CODIF             INTEGER NOT NULL,
  NCERT             VARCHAR(30) NOT NULL,
  TIPO              VARCHAR(30),
  DT_CERT           DATE,
  DT_VALI           DATE,
  ESPECIF           VARCHAR(255),
  CONSTRAINT PK_CERTDISP PRIMARY KEY (CODIGO, CODIF, NCERT)
);

/* ------------------------------------------------------------ expenditure */

-- Commitment movements. Annulments are rows of their own with a negative VADEM.
CREATE TABLE DESPES (
  PKEMP             VARCHAR(20) NOT NULL,
  PKEMPA            VARCHAR(20),     -- the commitment a reversal refers to
  DATAE             DATE,
  NEMPG             INTEGER,
  VADEM             NUMERIC(15,2),
  TPEM              VARCHAR(2),
  LICIT             VARCHAR(50),
  MODALIDADE        VARCHAR(50),
  NUMLIC            VARCHAR(20),
  NUMLICMOD         VARCHAR(20),
  CODOBRA           VARCHAR(10),
  CONTRATO          VARCHAR(20),
  CONVENIO          INTEGER,
  CODIF             INTEGER,
  FICHA             INTEGER,
  PRODU             VARCHAR(1000),
  PROC              VARCHAR(20),
  DTPAG             DATE,
  DESCO             NUMERIC(15,2),   -- amount retained at payment
  CONSTRAINT PK_DESPES PRIMARY KEY (PKEMP)
);

-- Deductions of a commitment.
CREATE TABLE DESCEMP (
  PKEMP             VARCHAR(20),
  FICHA             INTEGER          -- RECDIS.FICHA
);

CREATE TABLE RATEIO_PAGAMENTO (
  PKEMP             VARCHAR(20),
  NEMPG             INTEGER,
  EMPRESA           INTEGER,
  DTLAN             DATE,
  ORDPG             VARCHAR(20),
  VALOR             NUMERIC(15,2),   -- negative for a reversal
  CHEQN             VARCHAR(250),
  CONTA             VARCHAR(20)
);

-- Liquidations of a commitment (negative VADEM: a reversal), read through VIEWLIQ.
CREATE TABLE DESLIQ (
  PKEMP             VARCHAR(20),
  NUMSUB            VARCHAR(20),
  DATAE             DATE,
  VADEM             NUMERIC(15,2)
);

-- Supporting documents of a commitment.
CREATE TABLE DESSUB (
  PKEMP             VARCHAR(20),
  DOC               VARCHAR(100)
);

-- Travel data of a commitment.
CREATE TABLE DESPESAD (
  PKEMP             VARCHAR(20),
  NUMBILH           VARCHAR(20),
  VALORBILH         NUMERIC(15,2),
  DATABILH          DATE,
  DESTINO           VARCHAR(120),
  MOTIVO            VARCHAR(500),
  DATASAI           DATE,
  DATACHE           DATE,
  MATRICULA         VARCHAR(20),
  NOMESERV          VARCHAR(100),
  CNPJEMI           VARCHAR(20)
);

-- Daily-allowance documents of a commitment.
CREATE TABLE DESPESADDOC (
  PKEMP             VARCHAR(20),
  TOTAL             NUMERIC(15,2)
);

CREATE TABLE NOTA (
  PKEMP             VARCHAR(20),
  NOTA              VARCHAR(20),
  SERIE             VARCHAR(5),
  DTLAN             DATE,
  VALOR             NUMERIC(15,2)
);

/* ---------------------------------------------------------------- works */

CREATE TABLE CADOBRA (
  NUMERO            VARCHAR(10),
  ANO               INTEGER,
  EMPRESA           INTEGER,
  DESCRICAO         VARCHAR(255),
  LOCALIZACAO       VARCHAR(255),
  DATA              DATE,
  REG_EXEC          VARCHAR(60),     -- '01' marks a work without executor
  NUMLIC            VARCHAR(20),
  CATEGORIA         VARCHAR(60),
  TIPO              VARCHAR(60),
  VALOR             NUMERIC(15,2),
  PRAZO             INTEGER,
  TIPO_EXEC         VARCHAR(60),
  DOC_EXEC          VARCHAR(20)
);

CREATE TABLE CADFISCAL (
  CODIGO            INTEGER NOT NULL,
  CREA              VARCHAR(20),
  UF_CREA           VARCHAR(2),
  QUALIFICA         VARCHAR(60),     -- code in characters 1-2, office from 6
  CPF               VARCHAR(14),
  CONSTRAINT PK_CADFISCAL PRIMARY KEY (CODIGO)
);

CREATE TABLE CADOBRAFISCAL (
  NUMFISCAL         INTEGER,
  NUMOBRA           VARCHAR(10)
);

/* ---------------------------------------------------------------- indexes */

CREATE INDEX IX_DESDIS_FICHA ON DESDIS (FICHA);
CREATE INDEX IX_DESALD_FICHA ON DESALD (FICHA);
CREATE INDEX IX_CONDIA_BALCO ON CONDIA (BALCO);
CREATE INDEX IX_CONDIA_MES ON CONDIA COMPUTED BY (EXTRACT(MONTH FROM DATAE));
CREATE INDEX IX_DESCON_CONTA ON DESCON (CONTA);
CREATE INDEX IX_DESCON_BALCO ON DESCON (BALCO);
CREATE INDEX IX_RECEIT_FICHA ON RECEIT (FICHA);
CREATE INDEX IX_RECEIT_PKEMP ON RECEIT (PKEMP);
CREATE INDEX IX_CONCPEND_CONTA ON CONCILIA_PENDENCIA (CONTA);
CREATE INDEX IX_CADPRO_NUMLIC ON CADPRO (NUMLIC);
CREATE INDEX IX_PROLIC_NUMLIC ON PROLIC (NUMLIC);
CREATE INDEX IX_LICITCOMISS_NUMLIC ON LICITCOMISS (NUMLIC);
CREATE INDEX IX_CADLIC_MES ON CADLIC COMPUTED BY (EXTRACT(MONTH FROM DATAE));
CREATE INDEX IX_DESPES_FICHA ON DESPES (FICHA);
CREATE INDEX IX_DESPES_CODOBRA ON DESPES (CODOBRA);
CREATE INDEX IX_DESPES_CONTRATO ON DESPES (CONTRATO);
CREATE INDEX IX_DESPES_NUMLIC ON DESPES (NUMLIC);
CREATE INDEX IX_DESPES_MES ON DESPES COMPUTED BY (EXTRACT(MONTH FROM DATAE));
CREATE INDEX IX_DESCEMP_PKEMP ON DESCEMP (PKEMP);
CREATE INDEX IX_RATEIO_PKEMP ON RATEIO_PAGAMENTO (PKEMP);
CREATE INDEX IX_RATEIO_MES ON RATEIO_PAGAMENTO COMPUTED BY (EXTRACT(MONTH FROM DTLAN));
CREATE INDEX IX_DESLIQ_PKEMP ON DESLIQ (PKEMP);
CREATE INDEX IX_DESLIQ_MES ON DESLIQ COMPUTED BY (EXTRACT(MONTH FROM DATAE));
CREATE INDEX IX_DESSUB_PKEMP ON DESSUB (PKEMP);
CREATE INDEX IX_DESPESAD_PKEMP ON DESPESAD (PKEMP);
CREATE INDEX IX_DESPESADDOC_PKEMP ON DESPESADDOC (PKEMP);
CREATE INDEX IX_NOTA_PKEMP ON NOTA (PKEMP);
CREATE INDEX IX_CADOBRA_NUMERO ON CADOBRA (NUMERO);

/* ------------------------------------------------------ view, procedure */

-- One row per liquidation, with the number and appropriation of its commitment.
CREATE VIEW VIEWLIQ (PKEMP, NEMPG, NUMSUB, DATAE, VADEM, FICHA) AS
  SELECT L.PKEMP, D.NEMPG, L.NUMSUB, L.DATAE, L.VADEM, D.FICHA
  FROM DESLIQ L
  INNER JOIN DESPES D ON D.PKEMP = L.PKEMP;

/* Bank reconciliation at a date given as text 'dd.mm.yyyy'. For every treasury
   account (DESCON.CONTA) it yields, in this order: a GRUPO 0 row with the book
   balance (debits less credits of the account's ledger accounts up to the
   date), one row per item of CONCILIA_PENDENCIA pending at the date (GRUPO 1
   to 4, SALDO the item's amount), and a GRUPO 5 row with the bank balance. Every
   row of an account carries the same SALDOBANCO:
   book balance + GRUPO 1 - GRUPO 2 + GRUPO 3 - GRUPO 4. */
SET TERM ^ ;

CREATE PROCEDURE CONCILIA (DATA VARCHAR(10))
RETURNS (
  CONTA       VARCHAR(20),
  SALDOBANCO  NUMERIC(15,2),
  GRUPO       SMALLINT,
  NOME        VARCHAR(100),
  DTLAN       DATE,
  SALDO       NUMERIC(15,2))
AS
  DECLARE VARIABLE DT DATE;
  DECLARE VARIABLE SALDOCONTABIL NUMERIC(15,2);
  DECLARE VARIABLE AJUSTE NUMERIC(15,2);
BEGIN
  DT = CAST(DATA AS DATE);
  /* Book balances of every account in one pass: each ledger account is read
     through IX_CONDIA_BALCO once, and counted once even when DESCON repeats it. */
  FOR SELECT A.CONTA, COALESCE(SUM(COALESCE(C.DEBIT, 0) - COALESCE(C.CREDI, 0)), 0)
      FROM (SELECT DISTINCT D.CONTA, D.BALCO FROM DESCON D WHERE D.CONTA IS NOT NULL) A
      LEFT JOIN CONDIA C ON C.BALCO = A.BALCO AND C.DATAE <= :DT
      GROUP BY A.CONTA
      ORDER BY A.CONTA
      INTO :CONTA, :SALDOCONTABIL
  DO
  BEGIN

    SELECT COALESCE(SUM(CASE WHEN P.GRUPO IN (1, 3) THEN P.VALOR ELSE -P.VALOR END), 0)
      FROM CONCILIA_PENDENCIA P
      WHERE P.CONTA = :CONTA AND P.GRUPO BETWEEN 1 AND 4
        AND P.DTLAN <= :DT AND (P.DTBAIXA IS NULL OR P.DTBAIXA > :DT)
      INTO :AJUSTE;

    SALDOBANCO = SALDOCONTABIL + AJUSTE;

    GRUPO = 0;
    NOME = 'SALDO CONTABIL';
    DTLAN = DT;
    SALDO = SALDOCONTABIL;
    SUSPEND;

    FOR SELECT P.GRUPO, P.NOME, P.DTLAN, P.VALOR
        FROM CONCILIA_PENDENCIA P
        WHERE P.CONTA = :CONTA AND P.GRUPO BETWEEN 1 AND 4
          AND P.DTLAN <= :DT AND (P.DTBAIXA IS NULL OR P.DTBAIXA > :DT)
        ORDER BY P.GRUPO, P.DTLAN
        INTO :GRUPO, :NOME, :DTLAN, :SALDO
    DO
      SUSPEND;

    GRUPO = 5;
    NOME = 'SALDO BANCARIO';
    DTLAN = DT;
    SALDO = SALDOBANCO;
    SUSPEND;
  END
END^

SET TERM ; ^

COMMIT;
